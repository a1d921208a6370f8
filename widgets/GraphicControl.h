#pragma once

#include <QWidget>

// A windowless control of the instrument widgets: a plain widget that paints
// itself over its parent and keeps the hint switches of the forms.
//
// `Hint` is the tool tip. It shows when `ShowHint` is set, or, while
// `ParentShowHint` is set (the default), as the parent shows its tips, which
// in this toolkit is always. Setting `ShowHint` clears `ParentShowHint`.
class TGraphicControlVorn : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE setParentShowHint)
    Q_PROPERTY(QString Hint READ toolTip WRITE setToolTip)

public:
    explicit TGraphicControlVorn(QWidget* parent = nullptr);

    bool ShowHint() const { return showHint_; }
    void setShowHint(bool show);
    bool ParentShowHint() const { return parentShowHint_; }
    void setParentShowHint(bool follow) { parentShowHint_ = follow; }

protected:
    bool event(QEvent* event) override;

private:
    bool showHint_ = false;
    bool parentShowHint_ = true;
};
