// TScrollBox: a panel whose content scrolls when it outgrows the box.
#include "platform/forms/forms.h"
#include "platform/forms/formsqt.h"
#include "platform/graphics/qtbridge.h"
#include <QPalette>
#include <QScrollArea>
#include <algorithm>

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner, NewWidget<TQt<QScrollArea>>()) {
    auto* area = static_cast<QScrollArea*>(Widget());
    auto* content = new TQt<QWidget>();
    content->setAutoFillBackground(true);
    area->setWidget(content);
    area->setWidgetResizable(false);
    SetWidgetControl(content, this);
    SetClientWidget(content);
    SetControlStyle(ControlStyle() + TControlStyle{csAcceptsControls});
    SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    static_cast<QScrollArea*>(Widget())->setFrameShape(Value == bsNone ? QFrame::NoFrame
                                                                       : QFrame::StyledPanel);
    UpdateExtent();
}

int TScrollBox::ClientWidth() const {
    return std::max(0, Width() - (FBorderStyle == bsNone ? 0 : 4));
}

int TScrollBox::ClientHeight() const {
    return std::max(0, Height() - (FBorderStyle == bsNone ? 0 : 4));
}

void TScrollBox::ApplyGeometry() {
    TWinControl::ApplyGeometry();
    UpdateExtent();
}

void TScrollBox::ApplyColor() {
    QWidget* content = ClientWidget();
    QPalette pal = content->palette();
    pal.setColor(QPalette::Window, ToQColor(Color()));
    content->setPalette(pal);
}

void TScrollBox::ChildAdded(TControl*) {
    UpdateExtent();
}
void TScrollBox::ChildBoundsChanged(TControl*) {
    UpdateExtent();
}

void TScrollBox::UpdateExtent() {
    QWidget* content = ClientWidget();
    if (!content) return;
    int right = ClientWidth(), bottom = ClientHeight();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible() || c->Align() != alNone) continue;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    content->resize(right, bottom);
}

void TScrollBox::ScrollInView(TControl* AControl) {
    if (AControl && AControl->Widget())
        static_cast<QScrollArea*>(Widget())->ensureWidgetVisible(AControl->Widget());
}
