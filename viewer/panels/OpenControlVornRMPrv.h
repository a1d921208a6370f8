#pragma once

#include "WrapperControlVornRMPrv.h"

#include <optional>

#include <QString>

class QLineEdit;
class QToolButton;
class TOnOffButtonVorn;
class TUnitValueLabel;

namespace rm::viewer {

// The file name as the viewer takes it: ".rmd" appended when the file-name
// part (after the last "/") has no "." at all; "run1.dat" and "run1." stay.
QString EnsureExtension(const QString& name);

// The open-file panel: the file-name edit, the browse button, the Open
// button and the size label. Targeting a name (browse, or Enter in the edit)
// opens the data file; Open prepares its index and views.
class TOpenControlVornRMPrv : public TWrapperControlVornRMPrv {
    Q_OBJECT

public:
    explicit TOpenControlVornRMPrv(QObject* parent = nullptr);

    void SetOpenFileEdit(QLineEdit* edit);
    void SetOpenFileBrowse(QToolButton* button);
    void SetOpenButton(TOnOffButtonVorn* button);
    void SetMyFileSize(TUnitValueLabel* label);

    void EngineNotify(int code, int senderGroup) override;

protected:
    void UpdateFromEngine() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BrowseClick();
    void OpenClick();
    void EditEnter();
    // The file a name typed without a folder stands for: the one in the
    // folder of the file targeted last, else the one in the current folder
    // (kept relative). Neither: a message names the paths looked for, and
    // nothing is returned.
    std::optional<QString> findTypedName(const QString& name) const;
    // Runs the open dialog and targets the chosen name; false when cancelled.
    bool browseAndTarget();
    void target(const QString& name);

    QLineEdit* edit_ = nullptr;
    QToolButton* browse_ = nullptr;
    TOnOffButtonVorn* open_ = nullptr;
    TUnitValueLabel* size_ = nullptr;
    // The folder of the file targeted last: a name typed without a folder
    // is looked for there first.
    QString lastFolder_;
};

} // namespace rm::viewer
