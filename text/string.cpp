#include "text/string.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Shared by every empty String whose own buffer could not be allocated: the text is never null.
char kEmptyText[1] = {0};

char* allocate(size_t size) {
    return static_cast<char*>(calloc(size, 1));
}

} // namespace

String::String() : characters(kEmptyText) {
    assign("");
}

String::String(const char* text) : characters(kEmptyText) {
    assign(text);
}

String::String(const String& other) : characters(kEmptyText) {
    assign(other.characters);
}

String& String::operator=(const String& other) {
    if (this != &other)
        assign(other.characters);
    return *this;
}

String::~String() {
    adopt(kEmptyText);
}

int String::length() const {
    return static_cast<int>(strlen(characters));
}

void String::adopt(char* buffer) {
    if (characters != kEmptyText)
        free(characters);
    characters = buffer;
}

// Without memory the text keeps its old value: a shorter text is better than a crash.
void String::assign(const char* text) {
    if (!text)
        text = "";
    size_t size = strlen(text) + 1;
    char* buffer = allocate(size);
    if (!buffer)
        return;
    memcpy(buffer, text, size);
    adopt(buffer);
}

String& String::append(const char* text) {
    if (!text)
        text = "";
    size_t size = strlen(characters) + strlen(text) + 1;
    char* buffer = allocate(size);
    if (!buffer)
        return *this;
    snprintf(buffer, size, "%s%s", characters, text);
    adopt(buffer);
    return *this;
}

String& String::append(int number) {
    char scratch[256];
    snprintf(scratch, sizeof scratch, "%i", number);
    return append(scratch);
}

String String::concat(const char* text) const {
    String result(*this);
    result.append(text);
    return result;
}

String String::concat(int number) const {
    String result(*this);
    result.append(number);
    return result;
}

String& String::reserve(int n) {
    if (n < 0)
        n = 0;
    char* buffer = allocate(static_cast<size_t>(n) + 1);
    if (!buffer)
        return *this;
    strncpy(buffer, characters, static_cast<size_t>(n));
    adopt(buffer);
    return *this;
}

int String::loadString(UINT id, HMODULE module) {
    if (!module)
        module = GetModuleHandleA(nullptr);
    String scratch;
    int length = 0;
    // A text that fills the buffer may have been cut: grow in steps of 256 and load again.
    for (int capacity = 256;; capacity += 256) {
        const char* before = scratch.text();
        scratch.reserve(capacity);
        // No memory for this size: keep what the last load gave, and never let LoadStringA write past the old buffer.
        if (scratch.text() == before)
            break;
        length = LoadStringA(module, id, scratch.text(), capacity);
        if (capacity - length > 1)
            break;
    }
    assign(length == 0 ? "" : scratch.text());
    return length;
}
