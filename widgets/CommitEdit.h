#pragma once

#include "FilteredEdit.h"

// An edit whose typed value is taken on Enter only. Any other released key
// turns the text blue (not taken yet); Enter runs `CommitText`, and when that
// succeeds the text turns back to the window-text colour. `OnKeyUp` follows
// the commit, so its handlers see the committed value. Leaving the edit
// commits nothing.
class TCommitEditVorn : public TFilteredEditVorn {
    Q_OBJECT

public:
    TCommitEditVorn(const QString& acceptedCharacters, QWidget* parent);

    // Takes the text as the value; false (the value unchanged) when it does
    // not read.
    virtual bool CommitText() = 0;

    // True from the first released key after a commit until the next
    // successful Enter.
    bool isUncommitted() const { return uncommitted_; }

protected:
    void keyReleased(QKeyEvent* event) override;

private:
    void setUncommitted(bool uncommitted);

    bool uncommitted_ = false;
};
