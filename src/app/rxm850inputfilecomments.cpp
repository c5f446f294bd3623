#include "app/rxm850inputfilecomments.h"

QM_CLASS_OWNED(TFormRXM850FComment, TForm, TComponent)

TFormRXM850FComment* FormRXM850FComment = nullptr;

TFormRXM850FComment::TFormRXM850FComment(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormRXM850FComment");
    SetCaption("RXM 850 stored files");
}
