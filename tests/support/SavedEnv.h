// Environment variables that a test changes, put back as they were when the
// object goes (set again, or removed when they were unset).
#pragma once

#include <cstdlib>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CSavedEnv {
public:
    // Remembers the variables; bClear removes them for the test.
    CSavedEnv(std::initializer_list<const char*> names, bool bClear = false)
    {
        for (const char* name : names) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            if (bClear)
                unsetenv(name);
        }
    }
    // Remembers one variable and sets it (nullptr removes it).
    CSavedEnv(const char* name, const char* value) : CSavedEnv({name}) { vSet(name, value); }
    ~CSavedEnv()
    {
        for (const auto& [name, value] : saved)
            vSet(name.c_str(), value ? value->c_str() : nullptr);
    }
    CSavedEnv(const CSavedEnv&) = delete;
    CSavedEnv& operator=(const CSavedEnv&) = delete;

    static void vSet(const char* name, const char* value)
    {
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};
