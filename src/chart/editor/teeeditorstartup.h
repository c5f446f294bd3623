#pragma once
// Start-up of the chart editor library: fills the chart control's editor hooks
// and registers every editor form class by the name that series, functions and
// tools return from GetEditorClass. Safe to call more than once.

void TeeEditorStartup();

// Defined beside the pages and dialogs; called by TeeEditorStartup.
void TeeRegisterEditorDialogs();
void TeeRegisterSeriesEditors();
void TeeRegisterChartPages();
void TeeRegisterStandardEditors();
void TeeRegisterPrintAndExport();
void TeeRegisterDataAndToolEditors();
void TeeRegisterExtraSeriesEditors();
