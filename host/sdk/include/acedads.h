#pragma once
// Input at the command line, selection sets, system variables and the LISP
// function interface. Every call runs on the host's user-interface thread.
//
// Prompts: the prompt text is printed on the command line, then the call
// waits for input (typed, queued, script lines or picks in the drawing). Results:
//   RTNORM  an answer of the requested kind;
//   RTNONE  Enter (a default the caller shows in the prompt applies);
//   RTCAN   Esc, or no more input can come (the host is closing, the script ended);
//   RTKWORD a keyword set with acedInitGet (read it with acedGetInput);
//   RTERROR the call could not run.
// Input that does not fit gets a short message and the prompt again. While a
// point, entity, number or keyword is asked for, the name of a transparent
// command (optionally prefixed with ') runs that command and then re-prompts.

#include "adscodes.h"

#include "acdb/objectid.h"
#include "acdb/status.h"

#include <cstdint>

// ---- input requests
// Control bits (RSG_*) and space-separated keywords for the next acedGet* call only.
int acedInitGet(int flags, const char* keywords);
// The keyword (or, with RSG_OTHER, the arbitrary text) of the last RTKWORD.
// Calls without a size take buffers of 133 chars (132 and the terminating
// zero), as the platform documents; longer answers are cut (RTINPUTTRUNCATED).
int acedGetInput(char* result);
int acedGetInput(char* result, std::size_t size);

// "10,20" or "10,20,5"; with a base point "@dx,dy" is relative to it.
int acedGetPoint(const ads_point basePoint, const char* prompt, ads_point result);
// Like acedGetPoint; the base point is the first corner of a rectangle.
int acedGetCorner(const ads_point basePoint, const char* prompt, ads_point result);
// A picked entity (or a point typed at which an entity lies) and the pick point.
int acedEntSel(const char* prompt, ads_name entity, ads_point pickPoint);
// With spacesAllowed non-zero only Enter ends the answer, else a blank does too.
// Enter gives RTNORM with an empty answer.
int acedGetString(int spacesAllowed, const char* prompt, char* result);
int acedGetString(int spacesAllowed, const char* prompt, char* result, std::size_t size);
int acedGetInt(const char* prompt, int* result);
int acedGetReal(const char* prompt, ads_real* result);
// A distance typed as a number, or the distance from basePoint to a point.
int acedGetDist(const ads_point basePoint, const char* prompt, ads_real* result);
// One of the keywords of the last acedInitGet.
int acedGetKword(const char* prompt, char* result);
int acedGetKword(const char* prompt, char* result, std::size_t size);

// ---- selection sets
// mode "X" (or "_X"): every entity of the active drawing's model space in
// database order that passes filter: group 0 (entity type), 8 (layer) and 6
// (line type) with wildcards, 62 (colour index) and 370 (line weight) for
// equality, all conditions together. A filter with any other group is
// refused (RTERROR) rather than ignored. mode null: the user picks entities
// one by one until Enter. mode "L": the last entity of model space.
// RTNORM with at least one entity; RTERROR when nothing matched or the mode
// is not supported; RTCAN on Esc.
int acedSSGet(const char* mode, const void* point1, const void* point2, const resbuf* filter,
              ads_name selectionSet);
int acedSSFree(const ads_name selectionSet);
int acedSSLength(const ads_name selectionSet, std::int32_t* length);
// The entity at index (0-based); RTERROR out of range or for a released set.
int acedSSName(const ads_name selectionSet, std::int32_t index, ads_name entity);
// Adds an entity to a set; a null set makes a new one in result.
int acedSSAdd(const ads_name entity, const ads_name selectionSet, ads_name result);
int acedSSDel(const ads_name entity, const ads_name selectionSet);
int acedSSMemb(const ads_name entity, const ads_name selectionSet); // RTNORM if member

// Entity names and object ids. Names stay valid while the drawing is open.
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name entity);
Acad::ErrorStatus acdbGetAdsName(ads_name entity, AcDbObjectId id);

// ---- system variables (case-insensitive names)
// Strings come back in a new buffer string the caller releases with
// acutDelString (or free()). RTERROR for an unknown variable.
int acedGetVar(const char* name, resbuf* result);
// RTERROR for an unknown variable, RTREJ for a value of the wrong type, out
// of range, or a read-only variable.
int acedSetVar(const char* name, const resbuf* value);

// ---- messages
// The host alert box (titled with the host's name, "cadhost"; OK). Returns RTNORM.
int acedAlert(const char* message);

// The host colour dialog: the 255 colour indices, and ByLayer (256) and
// ByBlock (0) when allowMetaColor. color holds the colour shown at first and,
// when the user accepts, the chosen index. Returns 1 when accepted, 0 when
// cancelled (and without a user interface).
int acedSetColorDialog(int& color, bool allowMetaColor, int currentLayerColor);

// ---- files
// A file dialog. flags: 1 save (warn before replacing), others open. On
// RTNORM result holds an RTSTR with the path (released by the caller).
int acedGetFileD(const char* title, const char* defaultName, const char* extension, int flags,
                 resbuf* result);

// ---- LISP functions of a module. acedDefun binds name to functionCode for
// the module currently receiving a message; calls arrive as kInvkSubrMsg,
// where acedGetFunCode and acedGetArgs tell which and with what, and one of
// acedRet* gives the value. acedRegFunc calls a function directly instead.
int acedDefun(const char* name, int functionCode);
int acedUndef(const char* name, int functionCode);
int acedGetFunCode();
resbuf* acedGetArgs();
int acedRegFunc(int (*function)(), int functionCode);
int acedRetVal(const resbuf* value);
int acedRetNil();
int acedRetT();
int acedRetVoid();
int acedRetInt(int value);
int acedRetReal(ads_real value);
int acedRetStr(const char* text);
int acedRetPoint(const ads_point point);
