// The program's own text class: a heap buffer of ANSI characters that always ends with a zero byte.
#pragma once

#include "engine/platform.h"

class String {
public:
    String();
    explicit String(const char* text);
    String(const String& other);
    String& operator=(const String& other);
    virtual ~String();

    // The buffer itself; writable up to the size last given to reserve().
    char* text() const { return characters; }
    int length() const;

    void assign(const char* text);
    String& append(const char* text);
    String& append(int number);
    String concat(const char* text) const;
    String concat(int number) const;
    String& reserve(int n);

    // Loads string-table entry `id` of `module` (null: the program itself); returns its length, 0 when missing.
    int loadString(UINT id, HMODULE module = nullptr);

private:
    void adopt(char* buffer);

    char* characters;
};
