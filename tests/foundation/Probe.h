#pragma once
#include <vector>

// An element that writes its id into a shared log when it is destroyed, so that tests see what a container
// deleted and in which order.
class Probe {
public:
    Probe(int id, std::vector<int>& log) : id(id), log(log) {}
    virtual ~Probe() { log.push_back(id); }

    int id;

private:
    std::vector<int>& log;
};
