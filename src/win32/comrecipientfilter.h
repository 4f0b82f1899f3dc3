#pragma once
// The recipient filter for real: the automation component that monitoring
// products register, created by its class identifier for each message read
// from a file and released after it. Its method (dispatch identifier 1) is
// called with the recipient; its default value (dispatch identifier 0),
// read as text, is the recipient from then on. Where no component can be
// created (none registered), the factory gives nullptr and the recipient
// stays as read; a call that fails leaves it as it was too.

#include "pure/recipientfilter.h"

#include <windows.h>

namespace qm
{

inline constexpr CLSID RecipientFilterClassId = {
    0xE4E91C9D, 0x312D, 0x11D2, {0xB4, 0x77, 0x08, 0x00, 0x36, 0x5D, 0xA9, 0x02}};

// COM on the calling thread (the UI thread: a single-threaded apartment,
// as the components of that era expect) for the life of the object.
class ComApartment
{
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;
    bool ok() const { return SUCCEEDED(result_); }

private:
    HRESULT result_;
};

RecipientFilterFactory MakeComRecipientFilterFactory(const CLSID &classId = RecipientFilterClassId);

} // namespace qm
