// The program icon as PNG bytes.
#pragma once

extern const unsigned char kAppIconPng[];
extern const unsigned int kAppIconPngSize;
