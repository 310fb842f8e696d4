#pragma once
// Every setter of a database object checks write access before it changes
// anything, and answers the status when access is denied.

#include "acdb/status.h"

#define ACDB_ASSERT_WRITE()                                                                        \
    if (Acad::ErrorStatus es_ = assertWriteEnabled(); es_ != Acad::eOk)                            \
    return es_

// Checks write access, then runs the assignment and answers eOk.
#define ACDB_WRITE(expr)                                                                           \
    do {                                                                                           \
        ACDB_ASSERT_WRITE();                                                                       \
        expr;                                                                                      \
        return Acad::eOk;                                                                          \
    } while (0)
