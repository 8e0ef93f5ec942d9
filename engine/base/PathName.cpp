#include "engine/base/PathName.h"

#include <cctype>
#include <cstdio>

PathName::~PathName() = default;

PathName& PathName::operator=(const PathName& other)
{
    if (this != &other) {
        drive_ = other.drive_;
        dir_ = other.dir_;
        name_ = other.name_;
        ext_ = other.ext_;
        hasDot_ = other.hasDot_;
        find_.reset();
        filter_ = 0;
    }
    return *this;
}

void PathName::Set(const std::string& text)
{
    drive_.clear();
    dir_.clear();
    name_.clear();
    ext_.clear();
    hasDot_ = false;
    find_.reset();

    std::string rest;
    if (text.size() >= 2 && text[0] == '\\' && text[1] == '\\') {
        // Network prefix: two backslashes, server, backslash, share.
        std::size_t serverEnd = text.find('\\', 2);
        std::size_t shareEnd = serverEnd == std::string::npos ? std::string::npos : text.find('\\', serverEnd + 1);
        if (shareEnd == std::string::npos) {
            drive_ = text;
            return;
        }
        drive_ = text.substr(0, shareEnd);
        rest = text.substr(shareEnd);
    } else if (text.size() >= 2 && text[1] == ':') {
        drive_ = text.substr(0, 1);
        rest = text.substr(2);
    } else {
        rest = text;
    }

    std::size_t slash = rest.find_last_of('\\');
    std::string file;
    if (slash == std::string::npos) {
        file = rest;
    } else {
        dir_ = rest.substr(0, slash + 1);
        file = rest.substr(slash + 1);
    }
    std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos) {
        name_ = file;
    } else {
        name_ = file.substr(0, dot);
        ext_ = file.substr(dot + 1);
        hasDot_ = true;
    }
}

std::string PathName::Text() const
{
    std::string t = drive_;
    if (drive_.size() == 1) t += ':';
    t += dir_;
    t += name_;
    if (hasDot_ || !ext_.empty()) {
        t += '.';
        t += ext_;
    }
    return t;
}

std::string PathName::DirectoryOnly() const
{
    if (dir_.size() > 1 && dir_.back() == '\\') return dir_.substr(0, dir_.size() - 1);
    return dir_;
}

std::string PathName::Directory() const
{
    if (drive_.empty()) return {};
    return drive_ + (drive_.size() == 1 ? ":" : "") + DirectoryOnly();
}

std::string PathName::DirectoryWithSlash() const
{
    std::string d = drive_ + (drive_.size() == 1 ? ":" : "") + dir_;
    if (d.empty() || d.back() != '\\') d += '\\';
    return d;
}

std::string PathName::FileName() const
{
    if (hasDot_ || !ext_.empty()) return name_ + "." + ext_;
    return name_;
}

void PathName::SetDirectory(const std::string& text)
{
    std::string file = FileName();
    std::string d = text;
    if (d.empty() || d.back() != '\\') d += '\\';
    Rebuild(d + file);
}

void PathName::SetDrive(char letter)
{
    std::string d(1, letter);
    drive_ = d;
    find_.reset();
}

void PathName::SetDirectoryKeepDrive(const std::string& text)
{
    std::string d = text;
    if (d.empty() || d.front() != '\\') d.insert(d.begin(), '\\');
    if (d.back() != '\\') d += '\\';
    dir_ = d;
    find_.reset();
}

void PathName::SetName(const std::string& text)
{
    // Rebuilt from text so that a name carrying a dot is split again.
    std::string t = drive_ + (drive_.size() == 1 ? ":" : "") + dir_ + text;
    if (hasDot_ || !ext_.empty()) t += "." + ext_;
    Rebuild(t);
}

void PathName::SetExtension(const std::string& text)
{
    ext_ = text;
    hasDot_ = !text.empty();
    find_.reset();
}

void PathName::SetFileName(const std::string& text) { Rebuild(drive_ + (drive_.size() == 1 ? ":" : "") + dir_ + text); }

void PathName::AppendDirectory(const std::string& text)
{
    std::string d = dir_;
    if (d.empty() || d.back() != '\\') d += '\\';
    std::size_t start = 0;
    while (start < text.size() && text[start] == '\\') ++start;
    std::string add = text.substr(start);
    if (!add.empty()) {
        d += add;
        if (d.back() != '\\') d += '\\';
    }
    dir_ = d;
    find_.reset();
}

void PathName::ClearDirectoryAndFile()
{
    dir_ = "\\";
    name_.clear();
    ext_.clear();
    hasDot_ = false;
    find_.reset();
}

std::string RandomHexName(int (*random)())
{
    char buf[64];
    int a = random(), b = random(), c = random(), d = random(), e = random();
    (void)std::snprintf(buf, sizeof buf, "%.4x%.4x%.4x%.4x%.4x", a, b, c, d, e); // 40 digits at most always fit
    return std::string(buf, 8);
}

bool IsRandomFileName(std::string_view path)
{
    std::size_t slash = path.find_last_of("\\/");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    if (name.size() < 8) return false;
    for (std::size_t i = 0; i < 8; ++i)
        if (!std::isxdigit(static_cast<unsigned char>(name[i]))) return false;
    if (name.size() == 8) return true;
    std::string_view extension = name.substr(8);
    return extension.size() >= 2 && extension[0] == '.' && extension.find('.', 1) == std::string_view::npos;
}

std::string WithTrailingBackslash(const std::string& directory, bool (*isLeadByte)(unsigned char))
{
    // Walk character by character from the start: only there is it known
    // which bytes are trail bytes.
    bool endsInBackslash = false;
    for (std::size_t i = 0; i < directory.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(directory[i]);
        if (isLeadByte(c) && i + 1 < directory.size()) {
            ++i;
            endsInBackslash = false;
        } else {
            endsInBackslash = c == '\\';
        }
    }
    return endsInBackslash ? directory : directory + '\\';
}
