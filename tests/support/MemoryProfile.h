// An INI text held in memory, answering like the platform's private-profile
// calls (section and key names compared without case, values trimmed, key
// lists and cut values reported with the platform's return values).
#pragma once
#include "engine/profile/ProfileStore.h"
#include "engine/profile/ProfileRecord.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

class MemoryProfile : public ProfileStore {
public:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> keys;
    };

    MemoryProfile() = default;
    explicit MemoryProfile(const std::string& text) { Parse(text); }

    void Parse(const std::string& text)
    {
        std::istringstream in(text);
        std::string line;
        Section* current = nullptr;
        while (std::getline(in, line)) {
            line = Trim(line);
            if (line.empty() || line[0] == ';') continue;
            if (line[0] == '[') {
                std::size_t close = line.find(']');
                current = &Add(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
                continue;
            }
            if (current == nullptr) continue;
            std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            current->keys.emplace_back(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)));
        }
    }

    uint32_t GetString(const char* section, const char* key, const char* def, char* buffer, uint32_t size) override
    {
        ++calls;
        if (size == 0) return 0;
        const Section* s = Find(section);
        if (key == nullptr) {
            keyListSizes.push_back(size);
            std::string list;
            if (s != nullptr)
                for (const auto& kv : s->keys) list += kv.first + '\0';
            if (list.size() + 1 <= size) {
                std::memcpy(buffer, list.data(), list.size());
                buffer[list.size()] = '\0';
                if (!list.empty()) return static_cast<uint32_t>(list.size());
                return 0;
            }
            if (size < 2) {
                buffer[0] = '\0';
                return 0;
            }
            std::memcpy(buffer, list.data(), size - 2);
            buffer[size - 2] = '\0';
            buffer[size - 1] = '\0';
            return size - 2;
        }
        std::string value = def ? def : "";
        if (s != nullptr)
            for (const auto& kv : s->keys)
                if (Same(kv.first, key)) {
                    value = kv.second;
                    break;
                }
        std::size_t n = std::min<std::size_t>(value.size(), size - 1);
        std::memcpy(buffer, value.data(), n);
        buffer[n] = '\0';
        return static_cast<uint32_t>(n);
    }

    int32_t GetInt(const char* section, const char* key, int32_t def) override
    {
        char buffer[256];
        uint32_t n = GetString(section, key, "", buffer, sizeof buffer);
        if (n == 0) return def;
        return ParseDecimal(std::string(buffer, n));
    }

    bool WriteString(const char* section, const char* key, const char* value) override
    {
        Section* s = Find(section);
        if (s == nullptr) s = &Add(section);
        for (auto& kv : s->keys)
            if (Same(kv.first, key)) {
                kv.second = value;
                return true;
            }
        s->keys.emplace_back(key, value);
        return true;
    }

    std::string Value(const char* section, const char* key)
    {
        char buffer[4096];
        uint32_t n = GetString(section, key, "", buffer, sizeof buffer);
        return std::string(buffer, n);
    }

    std::vector<Section> sections;
    std::vector<uint32_t> keyListSizes;
    int calls = 0;

private:
    static std::string Trim(const std::string& s)
    {
        std::size_t b = s.find_first_not_of(" \t\r");
        if (b == std::string::npos) return {};
        std::size_t e = s.find_last_not_of(" \t\r");
        return s.substr(b, e - b + 1);
    }
    static bool Same(const std::string& a, const char* b)
    {
        return a.size() == std::strlen(b) && std::equal(a.begin(), a.end(), b, [](char x, char y) {
                   return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
               });
    }
    Section* Find(const char* name)
    {
        for (auto& s : sections)
            if (Same(s.name, name)) return &s;
        return nullptr;
    }
    Section& Add(const std::string& name)
    {
        sections.push_back({name, {}});
        return sections.back();
    }
};
