#pragma once
#include "foundation/StringKeyCollection.h"

class MessageWriter;

// The registry of log writers by name.
class Trace : public StringKeyCollection<MessageWriter*> {
public:
    explicit Trace(bool ownsWriters = true) : StringKeyCollection<MessageWriter*>(11), ownsWriters(ownsWriters) {}
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    ~Trace() override;

private:
    bool ownsWriters;
};
