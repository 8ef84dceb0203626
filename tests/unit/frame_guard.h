// Skips a scene's test while one of its frame sets is not in the program's resources yet.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "engine/platform.h"

// The first of the named sets (each "BASE:COUNT") with a frame missing, or "" when all are there.
inline std::string missingFrameSet(std::initializer_list<const char*> sets) {
    for (const char* set : sets) {
        std::string spec(set);
        size_t colon = spec.find(':');
        std::string base = spec.substr(0, colon);
        int count = std::stoi(spec.substr(colon + 1));
        for (int i = 1; i <= count; ++i) {
            std::string name = base + std::to_string(i);
            if (!FindResourceA(GetModuleHandleA(nullptr), name.c_str(), MAKEINTRESOURCEA(2)) ||
                !FindResourceA(GetModuleHandleA(nullptr), name.c_str(), "region"))
                return base;
        }
    }
    return "";
}

#define SKIP_WITHOUT_FRAMES(...)                                                                   \
    do {                                                                                           \
        std::string missing_ = missingFrameSet({__VA_ARGS__});                                     \
        if (!missing_.empty())                                                                     \
            GTEST_SKIP() << "frame set " << missing_ << " is not drawn yet";                       \
    } while (0)

// The frame sets of every scene the picker builds.
#define SKIP_WITHOUT_SCENE_FRAMES()                                                                                \
    SKIP_WITHOUT_FRAMES("IDZIE:4", "IDZIE_P_:4", "SPADA:3", "LECI:6", "BALWAN:6", "RENIFER:7", "RENSP:1", "GALKA:2", \
                        "KULKA:2", "PIANO:2", "NUTKA:1", "pies:8", "PLACZE:2")
