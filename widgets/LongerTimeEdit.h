#pragma once

#include "CommitEdit.h"

// A duration edit: "1h30m", "1m30s500ms", "1.5s". The value is in
// milliseconds. Typed characters: digits, "-", ".", "h", "m", "s".
class TLongerTimeEditVornRM : public TCommitEditVorn {
    Q_OBJECT
    Q_PROPERTY(double TimeValue READ TimeValue WRITE setTimeValue)

public:
    explicit TLongerTimeEditVornRM(QWidget* parent = nullptr);

    double TimeValue() const { return timeValue_; }
    // Stores the value and shows it (see rm::formatDuration); the text colour
    // is left alone.
    void setTimeValue(double milliseconds);

    // A text that does not read (see rm::parseDuration) is emptied and the
    // value kept.
    bool CommitText() override;

private:
    double timeValue_ = 0;
};
