#pragma once
// The resistance meter's stored files and comments window.
#include "platform/forms/forms.h"

class TFormRXM850FComment : public TForm {
    QM_CLASS(TFormRXM850FComment)
public:
    explicit TFormRXM850FComment(TComponent* AOwner);
};

extern TFormRXM850FComment* FormRXM850FComment;
