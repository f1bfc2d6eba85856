#pragma once
// CVeltrixCntrItem: an object embedded in a lesson. Here the embedded objects are pictures held
// by the lesson's text; an item names one of them. The document owns its items.
#include "platform/RuntimeClass.h"

#include <string>

class CVeltrixCntrItem : public CObject
{
    VX_DECLARE_CLASS(CVeltrixCntrItem)
public:
    CVeltrixCntrItem() = default;
    explicit CVeltrixCntrItem(std::string name) : m_strName(std::move(name)) {}
    const std::string& GetName() const { return m_strName; }

private:
    std::string m_strName; // the picture's resource name in the lesson's text
};
