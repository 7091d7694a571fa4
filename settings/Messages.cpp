#include "settings/Messages.h"
#include "foundation/StringResource.h"

namespace Messages {
SimpleString E0001, E0002, E0003, E0004, E0005, E0006, E0007, E0008, E0009;
SimpleString E0010, E0011, E0012, E0013, E0014, E0015, E0016, E0017, E0018;
SimpleString E0019, E0020, E0021, E0022, E0023, E0024, E0025, E0026, E0027;
SimpleString E0028, E0029, E0030, E0031, E0032, E0033, E0034;
SimpleString W0001, W0002, W0003, W0004, W0005, W0006, W0007;
SimpleString Q0001, Q0002, Q0003;
SimpleString I0001, I0002;
} // namespace Messages

namespace {

struct Entry {
    const wchar_t* id;
    SimpleString* text;
};

const Entry entries[] = {
    {L"E0001", &Messages::E0001}, {L"E0002", &Messages::E0002}, {L"E0003", &Messages::E0003},
    {L"E0004", &Messages::E0004}, {L"E0005", &Messages::E0005}, {L"E0006", &Messages::E0006},
    {L"E0007", &Messages::E0007}, {L"E0008", &Messages::E0008}, {L"E0009", &Messages::E0009},
    {L"E0010", &Messages::E0010}, {L"E0011", &Messages::E0011}, {L"E0012", &Messages::E0012},
    {L"E0013", &Messages::E0013}, {L"E0014", &Messages::E0014}, {L"E0015", &Messages::E0015},
    {L"E0016", &Messages::E0016}, {L"E0017", &Messages::E0017}, {L"E0018", &Messages::E0018},
    {L"E0019", &Messages::E0019}, {L"E0020", &Messages::E0020}, {L"E0021", &Messages::E0021},
    {L"E0022", &Messages::E0022}, {L"E0023", &Messages::E0023}, {L"E0024", &Messages::E0024},
    {L"E0025", &Messages::E0025}, {L"E0026", &Messages::E0026}, {L"E0027", &Messages::E0027},
    {L"E0028", &Messages::E0028}, {L"E0029", &Messages::E0029}, {L"E0030", &Messages::E0030},
    {L"E0031", &Messages::E0031}, {L"E0032", &Messages::E0032}, {L"E0033", &Messages::E0033},
    {L"E0034", &Messages::E0034}, {L"W0001", &Messages::W0001}, {L"W0002", &Messages::W0002},
    {L"W0003", &Messages::W0003}, {L"W0004", &Messages::W0004}, {L"W0005", &Messages::W0005},
    {L"W0006", &Messages::W0006}, {L"W0007", &Messages::W0007}, {L"Q0001", &Messages::Q0001},
    {L"Q0002", &Messages::Q0002}, {L"Q0003", &Messages::Q0003}, {L"I0001", &Messages::I0001},
    {L"I0002", &Messages::I0002},
};

} // namespace

void loadMessages(HMODULE module)
{
    StringResource table;
    table.load(module, L"Messages", L"StringResource", L"messages", L"message");
    for (const Entry& entry : entries)
        entry.text->set(table.get(entry.id).buffer());
}
