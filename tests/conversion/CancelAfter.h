#pragma once
#include "jobs/ICanceller.h"

// Says "cancelled" from its n-th question on.
class CancelAfter : public ICanceller {
public:
    explicit CancelAfter(int answers) : answers(answers) {}
    bool isCancelled() override { return answers-- <= 0; }

private:
    int answers;
};
