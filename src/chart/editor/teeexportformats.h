#pragma once
// The two picture formats of the export dialog, bitmap and metafile (enhanced
// or old-style), with the options forms the dialog docks into its page.
#include "chart/editor/teeexport.h"

class TBitmap;
class TMetafile;

class TBMPOptions : public TForm {
    QM_CLASS(TBMPOptions)
public:
    explicit TBMPOptions(TComponent* AOwner);
    TComboFlat* CBColors = nullptr;
    TCheckBox* CBMono = nullptr;
};

class TEMFOptions : public TForm {
    QM_CLASS(TEMFOptions)
public:
    explicit TEMFOptions(TComponent* AOwner);
    TCheckBox* CBEnhanced = nullptr;
};

class TBMPExportFormat : public TTeeExportFormat {
    QM_CLASS(TBMPExportFormat)
public:
    void DoCopyToClipboard() override;
    AnsiString Description() override;
    AnsiString FileExtension() override { return "bmp"; }
    AnsiString FileFilter() override;
    void SaveToStream(TStream* Stream) override;
    TCustomForm* Options(bool Check = true) override;
    // The panel drawn into a new bitmap of the export size (caller owns it).
    std::unique_ptr<TBitmap> Bitmap();
    TBMPOptions* BMPOptions() const { return static_cast<TBMPOptions*>(FOptions.get()); }
};

class TEMFExportFormat : public TTeeExportFormat {
    QM_CLASS(TEMFExportFormat)
public:
    void DoCopyToClipboard() override;
    AnsiString Description() override;
    AnsiString FileExtension() override;
    AnsiString FileFilter() override;
    int FileFilterIndex() override;
    void IncFileFilterIndex(int& FilterIndex) override;
    // The second filter entry (old-style files) switches Enhanced off.
    bool WantsFilterIndex(int Index) override;
    void SaveToStream(TStream* Stream) override;
    TCustomForm* Options(bool Check = true) override;
    std::unique_ptr<TMetafile> Metafile();
    // True while no options form exists.
    bool Enhanced();
    void SetEnhanced(bool Value);
    TEMFOptions* EMFOptions() const { return static_cast<TEMFOptions*>(FOptions.get()); }
};

// Saves the panel as a bitmap file of R's size.
void TeeSaveToBitmap(TCustomTeePanel* Panel, const AnsiString& FileName, const TRect& R);
// Registers both formats (bitmap first, so it heads the list).
void TeeRegisterPictureFormats();
