// Automation objects that misbehave the way a hostile page can make them: a
// collection whose enumerator cannot be had, one whose enumerator fails or
// lies about what it fetched, and one that enumerates itself for ever.
#pragma once
#include <windows.h>
#include <oleauto.h>

namespace robust {

enum class EnumBehaviour {
    NoEnumerator,      // _NewEnum fails
    WrongEnumerator,   // _NewEnum answers a number, not an object
    NextFails,         // Next answers E_FAIL at once
    ClaimsTooMany,     // Next says it fetched more elements than asked for
    EndlessBytes,      // Next hands out bytes for ever
    SelfNested,        // every element is the collection itself
    LyingStrings,      // elements are strings, with S_OK and a fetched count of 0
    SkipFails,         // counting by Skip fails
    ResetFails,        // counting works, rewinding does not
};

// A new object (reference count 1) that behaves as told; the caller releases it.
IDispatch* MakeHostileCollection(EnumBehaviour behaviour);

// Elements the endless enumerator has handed out so far (all objects together).
LONG EndlessElementsHandedOut();

}  // namespace robust
