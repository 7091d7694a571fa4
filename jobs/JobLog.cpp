#include "jobs/JobLog.h"
#include "jobs/LogWindow.h"

JobLog::JobLog() : window(getAppLogWindow())
{
}

bool JobLog::isPresent() const
{
    return window && window->getHandle();
}

void JobLog::write(const wstring& text)
{
    if (isPresent())
        window->write(text);
}

void JobLog::write(const astring& text)
{
    if (isPresent())
        window->write(text);
}

void JobLog::setColor(int color)
{
    if (isPresent())
        window->getPane().setTextColor(color);
}

void JobLog::writeMarked(const wchar_t* mark, int color, const wstring& text)
{
    if (!isPresent())
        return;
    setColor(color);
    write(mark);
    setColor(-1);
    write(text);
}
