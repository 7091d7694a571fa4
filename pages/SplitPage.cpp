#include "pages/SplitPage.h"
#include "pages/environmentPageIds.h"
#include "settings/AppSetting.h"

void SplitPage::exchange(PageExchange& x, AppSetting& s)
{
    x.number(IDC_SPLIT_WIDTH, s.fileSplitWidth, 1, 9999);
    x.number(IDC_SPLIT_HEIGHT, s.fileSplitHeight, 1, 9999);
    x.colour(IDC_SPLIT_CHOOSE_COLOR, s.fileSplitBackColor, IDC_SPLIT_SWATCH);
    x.radio(IDC_JOIN_HORIZONTAL, IDC_JOIN_VERTICAL, s.fileJoinVert);
    x.colour(IDC_JOIN_CHOOSE_COLOR, s.fileJoinBackColor, IDC_JOIN_SWATCH);
}
