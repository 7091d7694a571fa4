#pragma once

// The allocation interface that strings and exceptions use; failures throw Exception 8 unless asked for null.
class IAllocator {
public:
    virtual ~IAllocator() = default;
    virtual void* alloc(int bytes, bool returnNullOnFailure) = 0;
    virtual void* realloc(void* block, int bytes, bool returnNullOnFailure) = 0;
    virtual void free(void* block) = 0;
};

// Forwards to MemoryAllocator, so blocks may be freed through either.
class Allocator : public IAllocator {
public:
    void* alloc(int bytes, bool returnNullOnFailure) override;
    void* realloc(void* block, int bytes, bool returnNullOnFailure) override;
    void free(void* block) override;
};

IAllocator& getDefaultAllocator();
