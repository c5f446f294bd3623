#pragma once
// The plate monitor's stored result files window.
#include "platform/forms/forms.h"

class TFormReadCPMFiles : public TForm {
    QM_CLASS(TFormReadCPMFiles)
public:
    explicit TFormReadCPMFiles(TComponent* AOwner);
};

extern TFormReadCPMFiles* FormReadCPMFiles;
