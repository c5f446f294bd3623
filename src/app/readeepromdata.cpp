#include "app/readeepromdata.h"

QM_CLASS_OWNED(TFormReadCPMFiles, TForm, TComponent)

TFormReadCPMFiles* FormReadCPMFiles = nullptr;

TFormReadCPMFiles::TFormReadCPMFiles(TComponent* AOwner) : TForm(AOwner) {
    SetName("FormReadCPMFiles");
    SetCaption("CPM 690 stored files");
}
