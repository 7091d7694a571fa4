#pragma once

class wstring;
class astring;

// The sink that jobs write their log lines to: the log window, the output pane or the "/log" file.
class MessageWriter {
public:
    virtual ~MessageWriter() = default;
    virtual void write(const wstring& line) = 0;
    virtual void write(const astring& line) = 0;
};
