#pragma once

#include <QString>

#include <cstdio>
#include <filesystem>

// A path handed to a C or C++ library. Windows takes names outside the ANSI code page
// ("Győző és Éva") only through its wide calls; other systems take the UTF-8 bytes.
namespace NativePath
{

std::filesystem::path of(const QString &path);
// fopen() of the path; the caller closes the file.
std::FILE *open(const QString &path, const char *mode);

} // namespace NativePath
