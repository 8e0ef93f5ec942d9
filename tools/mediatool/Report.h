// How the media tool reports a failure: the exception's class, cause and
// title, as the setup's error dialog names them.
#pragma once
#include <string>

// Inside a catch block: "CMultiFileException 2 File is not an archive file."
std::string DescribeCurrentException();

// A string-table text by id (empty when unknown).
std::string MessageText(int id);
