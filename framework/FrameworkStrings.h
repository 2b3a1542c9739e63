// Identifiers of the framework's own messages in a program's string table (Framework.rc).
#pragma once

#define SFOpenError 65100
#define SFCreateError 65101
#define SResNotFound 65102
#define SIniFileWriteError 65103
#define SRegSetDataFailed 65104
#define SInvalidRegType 65105
#define SOleError 65106
#define SInvalidCast 65107
#define SIntfCastError 65108
#define SOutOfMemory 65109
