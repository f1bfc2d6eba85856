#include "platform/RuntimeClass.h"

#include <cstring>

namespace {
std::vector<const CRuntimeClass*>& Registry()
{
    static std::vector<const CRuntimeClass*> classes;
    return classes;
}
} // namespace

const CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};
static const CRuntimeClassRegistrar s_vxRegistrarCObject(&CObject::classCObject);

CObject* CRuntimeClass::CreateObject() const
{
    return m_pfnCreateObject ? m_pfnCreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBase) const
{
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBase)
            return true;
    return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const std::string& name)
{
    for (const CRuntimeClass* p : Registry())
        if (name == p->m_lpszClassName)
            return p;
    return nullptr;
}

const std::vector<const CRuntimeClass*>& CRuntimeClass::All()
{
    return Registry();
}

CRuntimeClassRegistrar::CRuntimeClassRegistrar(const CRuntimeClass* pClass)
{
    Registry().push_back(pClass);
}

const CRuntimeClass* CObject::GetRuntimeClass() const
{
    return &classCObject;
}

bool CObject::IsKindOf(const CRuntimeClass* pClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}
