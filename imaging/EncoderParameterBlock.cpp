#include "imaging/EncoderParameterBlock.h"
#include "foundation/MemoryAllocator.h"

bool EncoderParameterBlock::set(const GUID& parameter, LONG value)
{
    clear();
    // The value lies right behind the list, which already holds room for its one entry.
    auto memory = static_cast<BYTE*>(MemoryAllocator::alloc(sizeof(Gdiplus::EncoderParameters) + sizeof(LONG)));
    if (!memory)
        return false;
    block = reinterpret_cast<Gdiplus::EncoderParameters*>(memory);
    auto stored = reinterpret_cast<LONG*>(memory + sizeof(Gdiplus::EncoderParameters));
    *stored = value;
    block->Count = 1;
    block->Parameter[0].Guid = parameter;
    block->Parameter[0].NumberOfValues = 1;
    block->Parameter[0].Type = Gdiplus::EncoderParameterValueTypeLong;
    block->Parameter[0].Value = stored;
    return true;
}

void EncoderParameterBlock::clear()
{
    MemoryAllocator::free(block);
    block = nullptr;
}
