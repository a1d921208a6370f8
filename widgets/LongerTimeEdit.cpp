#include "LongerTimeEdit.h"

#include "DurationText.h"

TLongerTimeEditVornRM::TLongerTimeEditVornRM(QWidget* parent)
    : TCommitEditVorn(QStringLiteral("-0123456789.hms"), parent) {}

void TLongerTimeEditVornRM::setTimeValue(double milliseconds) {
    timeValue_ = milliseconds;
    setText(QString::fromStdString(rm::formatDuration(milliseconds)));
}

bool TLongerTimeEditVornRM::CommitText() {
    const auto milliseconds = rm::parseDuration(text().toStdString());
    if (!milliseconds) {
        clear();
        return false;
    }
    timeValue_ = *milliseconds;
    return true;
}
