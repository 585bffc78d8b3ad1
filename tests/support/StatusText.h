#pragma once

#include "core/candidates/Candidate.h"

#include <QTest>

// Lets QCOMPARE name a status or a protocol when they differ.
inline char* toString(TStatus Status)
{
    static const char* const Names[] = { "Unchecked", "Free", "Taken", "Failed" };
    return qstrdup(Names[int(Status)]);
}

inline char* toString(TVia Via)
{
    static const char* const Names[] = { "None", "Whois", "Rdap", "Dns" };
    return qstrdup(Names[int(Via)]);
}
