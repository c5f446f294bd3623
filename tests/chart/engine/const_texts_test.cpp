#include "chart/engine/teeconst.h"
#include "platform/rtl/format.h"
#include <gtest/gtest.h>

TEST(TeeConst, RangeMessagesFormatTheirPlaceholders) {
    EXPECT_EQ(Format(TeeMsg_3dPercent, {1, 100}), "3D effect percent must be between 1 and 100");
    EXPECT_EQ(Format(TeeMsg_PageOfPages, {2, 5}), "Page 2 of 5");
    EXPECT_EQ(Format(TeeMsg_SeriesDelete, {7, 3}),
              "Series Delete: ValueIndex 7 out of bounds (0 to 3).");
}

TEST(TeeConst, TextsWithControlCharactersAndBlanks) {
    const struct {
        const AnsiString& Var;
        const char* Text;
    } rows[] = {
        {TeeMsg_DefaultPercentOf2, "%s\rof %s"},
        {TeeMsg_GalleryHorizBar, "Horizontal\rBar"},
        {TeeMsg_DefLogValueFormat, "#.0 \"x10\" E+0"},
        {TeeMsg_Default, "Default: "},
        {TeeMsg_CustomAxesEditor, "Custom "},
        {TeeMsg_EMFFilter, "Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf"},
        {TeeMsg_NativeFilter, "Chart files (*.tee)|*.tee"},
        {TeeMsg_PeriodRange, "Period must be >= 0"},
        {TeeMsg_FunctionNone, "Copy"},
        {TeeMsg_GanttSample7, "Manufac."},
        {TeeMsg_PieSample8, "Chairs"},
        {TeeMsg_DefValueFormat, "#,##0.###"},
        {TeeMsg_AxisLogBase, "Axis Logarithmic Base should be >= 2"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.Var, row.Text);
}

TEST(TeeConst, SetConstantsRestoresEnglishTexts) {
    TeeMsg_Cancel = "Abbrechen";
    TeeMsg_PageOfPages = "Seite %d von %d";
    TeeSetConstants();
    EXPECT_EQ(TeeMsg_Cancel, "Cancel");
    EXPECT_EQ(TeeMsg_PageOfPages, "Page %d of %d");
}

namespace {
// Read while this unit starts up, possibly before the texts' own unit has.
const AnsiString CancelAtStartUp = TeeMsg_Cancel;
} // namespace

TEST(TeeConst, TextsAreSetBeforeOtherUnitsStartUp) {
    EXPECT_EQ(CancelAtStartUp, "Cancel");
}
