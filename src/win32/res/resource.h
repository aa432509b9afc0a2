#pragma once

// Resource identifiers of Quillmere.exe.
#define IDI_QUILLMERE 1
#define IDC_STATIC -1
