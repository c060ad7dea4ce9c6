#include "library/randomEngine.h"

std::mt19937 &RandomEngine()
{
    thread_local std::mt19937 engine{std::random_device{}()};
    return engine;
}
