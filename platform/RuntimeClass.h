#pragma once
// Run-time class records: create an object from its class, test class membership and find a
// class by name. A class takes part with VX_DECLARE_CLASS in its body and VX_IMPLEMENT_CLASS
// (creatable) or VX_IMPLEMENT_ABSTRACT (not creatable) in one source file.
#include <string>
#include <vector>

class CObject;

struct CRuntimeClass
{
    const char* m_lpszClassName;
    const CRuntimeClass* m_pBaseClass;
    CObject* (*m_pfnCreateObject)();

    // A new object of the class, or nullptr when the class is not creatable.
    CObject* CreateObject() const;
    bool IsDerivedFrom(const CRuntimeClass* pBase) const;
    // The class registered under this name, or nullptr.
    static const CRuntimeClass* FromName(const std::string& name);
    // Every registered class, in registration order.
    static const std::vector<const CRuntimeClass*>& All();
};

// Adds a class record to the by-name registry (used by VX_IMPLEMENT_*).
struct CRuntimeClassRegistrar
{
    explicit CRuntimeClassRegistrar(const CRuntimeClass* pClass);
};

class CObject
{
public:
    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    bool IsKindOf(const CRuntimeClass* pClass) const;

    static const CRuntimeClass classCObject;
};

#define VX_RUNTIME_CLASS(name) (&name::class##name)

#define VX_DECLARE_CLASS(name)                                                                     \
public:                                                                                            \
    static const CRuntimeClass class##name;                                                        \
    const CRuntimeClass* GetRuntimeClass() const override;                                         \
    static CObject* CreateObject();

#define VX_IMPLEMENT_CLASS_WITH(name, base, creator)                                               \
    const CRuntimeClass name::class##name = {#name, &base::class##base, creator};                  \
    const CRuntimeClass* name::GetRuntimeClass() const                                             \
    {                                                                                              \
        return &name::class##name;                                                                 \
    }                                                                                              \
    static const CRuntimeClassRegistrar s_vxRegistrar##name(&name::class##name);

#define VX_IMPLEMENT_CLASS(name, base)                                                             \
    CObject* name::CreateObject()                                                                  \
    {                                                                                              \
        return new name;                                                                           \
    }                                                                                              \
    VX_IMPLEMENT_CLASS_WITH(name, base, &name::CreateObject)

#define VX_IMPLEMENT_ABSTRACT(name, base)                                                          \
    CObject* name::CreateObject()                                                                  \
    {                                                                                              \
        return nullptr;                                                                            \
    }                                                                                              \
    VX_IMPLEMENT_CLASS_WITH(name, base, nullptr)
