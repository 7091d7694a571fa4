#pragma once
#include "imaging/ICanceller.h"

// Says "cancelled" from its n-th question on; counts the questions.
class CancelAfter : public ICanceller {
public:
    explicit CancelAfter(int answers) : answers(answers) {}
    bool isCancelled() override
    {
        ++asked;
        return answers-- <= 0;
    }
    int asked = 0;

private:
    int answers;
};
