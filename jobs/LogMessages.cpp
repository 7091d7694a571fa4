#include "jobs/LogMessages.h"
#include "foundation/DateTime.h"
#include "foundation/StringResource.h"

namespace LogMessages {
SimpleString M001, M002, M003, M004, M005, M006, M007;
SimpleString M101, M102, M103, M104;
SimpleString M201, M202, M203, M204;
SimpleString M301, M302, M303, M304;
SimpleString M401, M402, M403, M404;
SimpleString M501, M502, M503, M504;
SimpleString M601, M602, M603, M604;
SimpleString M701, M702, M703, M704;
SimpleString C001, C002, C003, C004, C005, C006, C007;
} // namespace LogMessages

namespace {

const MessageTableEntry entries[] = {
    {L"M001", &LogMessages::M001}, {L"M002", &LogMessages::M002}, {L"M003", &LogMessages::M003},
    {L"M004", &LogMessages::M004}, {L"M005", &LogMessages::M005}, {L"M006", &LogMessages::M006},
    {L"M007", &LogMessages::M007}, {L"M101", &LogMessages::M101}, {L"M102", &LogMessages::M102},
    {L"M103", &LogMessages::M103}, {L"M104", &LogMessages::M104}, {L"M201", &LogMessages::M201},
    {L"M202", &LogMessages::M202}, {L"M203", &LogMessages::M203}, {L"M204", &LogMessages::M204},
    {L"M301", &LogMessages::M301}, {L"M302", &LogMessages::M302}, {L"M303", &LogMessages::M303},
    {L"M304", &LogMessages::M304}, {L"M401", &LogMessages::M401}, {L"M402", &LogMessages::M402},
    {L"M403", &LogMessages::M403}, {L"M404", &LogMessages::M404}, {L"M501", &LogMessages::M501},
    {L"M502", &LogMessages::M502}, {L"M503", &LogMessages::M503}, {L"M504", &LogMessages::M504},
    {L"M601", &LogMessages::M601}, {L"M602", &LogMessages::M602}, {L"M603", &LogMessages::M603},
    {L"M604", &LogMessages::M604}, {L"M701", &LogMessages::M701}, {L"M702", &LogMessages::M702},
    {L"M703", &LogMessages::M703}, {L"M704", &LogMessages::M704}, {L"C001", &LogMessages::C001},
    {L"C002", &LogMessages::C002}, {L"C003", &LogMessages::C003}, {L"C004", &LogMessages::C004},
    {L"C005", &LogMessages::C005}, {L"C006", &LogMessages::C006}, {L"C007", &LogMessages::C007},
};

} // namespace

void loadLogMessages(HMODULE module)
{
    loadMessageTable(module, L"LogMessages", L"logmessages", entries);
}

wstring fillIn(const SimpleString& text, const wstring& value)
{
    return wstring(text.get()).replace(L"%s", value.buffer());
}

wstring stampedLogText(const SimpleString& text)
{
    return fillIn(text, DateTime().toString());
}
