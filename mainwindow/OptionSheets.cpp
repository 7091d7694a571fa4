#include "mainwindow/OptionSheets.h"

namespace {

OptionSheets& sheetsOfRun()
{
    static OptionSheets sheets;
    return sheets;
}

} // namespace

void setOptionSheets(const OptionSheets& sheets)
{
    sheetsOfRun() = sheets;
}

const OptionSheets& getOptionSheets()
{
    return sheetsOfRun();
}
