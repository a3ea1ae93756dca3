// The process's handle count, thread count and private bytes, for leak figures.
#pragma once
#include <windows.h>

#include <string>

struct ProcessFigures {
    DWORD handles = 0;
    DWORD threads = 0;
    SIZE_T privateBytes = 0;

    static ProcessFigures Now();
    std::string Text() const;
};
