#pragma once

class InputStream;
class OutputStream;

// Turns the bytes of one stream into those of another; each direction returns the count written.
class Converter {
public:
    virtual ~Converter() = default;
    virtual int encode(InputStream& in, OutputStream& out) = 0;
    virtual int decode(InputStream& in, OutputStream& out) = 0;
};
