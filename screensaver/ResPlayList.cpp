#include "screensaver/ResPlayList.h"
#include <cstdlib>
#include <ctime>
#include <utility>

Random::Random()
{
    static bool seeded = false;
    if (!seeded) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        seeded = true;
    }
}

int Random::next()
{
    return std::rand();
}

ResPlayList::ResPlayList(int count)
{
    for (int number = 1; number <= count; ++number) {
        order.push_back(static_cast<int>(numbers.size()));
        numbers.push_back(number);
    }
}

int ResPlayList::next()
{
    if (numbers.empty())
        return 0;
    ++position;
    if (position >= count())
        position = 0;
    if (position == 0)
        shuffle();
    return numbers[order[position]];
}

void ResPlayList::shuffle()
{
    int n = count();
    for (int i = 0; i < n; ++i) {
        int j = random.next() % n;
        if (i != j)
            std::swap(order[i], order[j]);
    }
}
