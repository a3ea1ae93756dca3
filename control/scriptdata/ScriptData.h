// Conversions between script data and bytes or engine text, for the control's
// methods: one include for all of them.
#pragma once

#include "AnsiText.h"
#include "ArrayBytes.h"
#include "ByteBuffer.h"
#include "ScriptArray.h"
#include "StringBytes.h"
