#include "PreviewMenuCommands.h"

#include "AboutForm.h"
#include "DesktopLink.h"
#include "PreviewEngine.h"
#include "PreviewScreenPelkRM.h"
#include "SetColorForm.h"
#include "VersionText.h"
#include "dialogs/DialogStrings.h"
#include "ui_PreviewScreenRM.h"

#include <QDir>
#include <QPainter>

namespace rm::viewer {

TPreviewMenuCommands::TPreviewMenuCommands(Ui::TPreviewScreenRM& form, TPreviewEnginePelkRM& engine,
                                           TPreviewScreenPelkRM& display, QObject* parent)
    : QObject(parent),
      form_(form),
      engine_(engine),
      display_(display),
      runDialog_([](QDialog& dialog) { return dialog.exec() == QDialog::Accepted; })
{
    connect(form.Print1, &QAction::triggered, this, &TPreviewMenuCommands::Print1Click);
    connect(form.ColorSettings1, &QAction::triggered, this, &TPreviewMenuCommands::ColorSettings1Click);
    connect(form.IndexMenuItem, &QAction::triggered, this, &TPreviewMenuCommands::IndexMenuItemClick);
    connect(form.norvakwebmenuitem, &QAction::triggered, this, &TPreviewMenuCommands::NorvakWebClick);
    connect(form.supportmenuitem, &QAction::triggered, this, &TPreviewMenuCommands::SupportClick);
    connect(form.About1, &QAction::triggered, this, &TPreviewMenuCommands::About1Click);
}

void TPreviewMenuCommands::Print1Click()
{
    if (!engine_.NewFileOpened)
        return;
    TPrintBridge(*this).Print();
}

void TPreviewMenuCommands::ColorSettings1Click()
{
    TSetColorForm dialog(&display_);
    dialog.setWindowTitle(DialogStrings::ColorSettingsCaption);
    dialog.SetColors({engine_.ColorChannelA, engine_.ColorChannelB, engine_.GridColor, engine_.BackgroundColor});
    if (!runDialog_(dialog))
        return;
    const TDisplayColors chosen = dialog.Colors();
    engine_.ColorChannelA = chosen.channelA;
    engine_.ColorChannelB = chosen.channelB;
    engine_.GridColor = chosen.grid;
    engine_.BackgroundColor = chosen.background;
    engine_.Notify(enRedraw, kGroupColorDialog);
}

void TPreviewMenuCommands::IndexMenuItemClick()
{
    rm::openOrTell(QUrl::fromLocalFile(QDir::current().filePath(QStringLiteral("Help/help.htm"))));
}

void TPreviewMenuCommands::NorvakWebClick() { rm::openOrTell(QUrl(DialogStrings::CompanySiteAddress)); }

void TPreviewMenuCommands::SupportClick() { rm::openOrTell(QUrl(DialogStrings::CompanyMailAddress)); }

void TPreviewMenuCommands::About1Click()
{
    TAboutForm about(TAboutForm::Variant::Viewer, &display_);
    about.SetSoftwareVersion(VersionText(rm::kProgramVersion));
    runDialog_(about);
}

std::string TPreviewMenuCommands::CursorInfoText() const
{
    auto text = [](const TSafeLabel* label) { return label->MyString().toStdString(); };
    return "A = " + text(form_.ChannelAVoltage) + " 1A = " + text(form_.ChannelAbsolute1A) +
           " 2A = " + text(form_.ChannelAbsolute2A) + "\r\nB = " + text(form_.ChannelBVoltage) +
           " 1B = " + text(form_.ChannelAbsolute1B) + " 2B = " + text(form_.ChannelAbsolute2B);
}

void TPreviewMenuCommands::PaintForPrint(QPainter& painter, int width, int height)
{
    // The picture at the display's own size, stretched by the painter: a
    // page-sized copy would take hundreds of megabytes at printer resolutions.
    painter.drawImage(QRect(0, 0, width, height), display_.PaintForPrint(display_.width(), display_.height()));
}

QSize TPreviewMenuCommands::PictureSize() const { return display_.size(); }

} // namespace rm::viewer
