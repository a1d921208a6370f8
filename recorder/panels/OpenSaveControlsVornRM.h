#pragma once

#include "OnOffButton.h"
#include "WrapperComponentVornRM.h"

#include <QLineEdit>
#include <QPointer>
#include <QToolButton>

// The data-file panel: the file-name edit (taken on Enter), the browse button
// with its save dialog, Save on/off and clear-file. During a measurement the
// three buttons are disabled; a name typed then is taken at once and written
// to from the measurement's stop block on.
class TOpenSaveControlsVornRM : public TWrapperComponentVornRM {
    Q_OBJECT

public:
    explicit TOpenSaveControlsVornRM(QObject* parent = nullptr);

    void SetSaveFileEdit(QLineEdit* edit);
    void SetSaveFileBrowse(QToolButton* button);
    void SetSaveButton(TOnOffButtonVorn* button);
    void SetCLFButton(TOnOffButtonVorn* button);

protected:
    void UpdateFromScope() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ButtonClick(QAbstractButton* sender);
    void FileEditKeyUp(int key);
    void browse();
    void clearFile();

    QPointer<QLineEdit> saveFileEdit_;
    QPointer<QToolButton> saveFileBrowse_;
    QPointer<TOnOffButtonVorn> saveButton_, clfButton_;
};
