#pragma once

// Asked by long operations, at least once per row, whether they are to stop. A null canceller never cancels.
class ICanceller {
public:
    virtual ~ICanceller() = default;
    virtual bool isCancelled() = 0;
};

inline bool isCancelled(ICanceller* canceller)
{
    return canceller && canceller->isCancelled();
}
