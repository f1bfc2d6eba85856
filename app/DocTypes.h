#pragma once
// The five document types of the shell, in their registration order, and how the classes of
// each type are found: by the names of their run-time classes. A type whose classes are not
// linked into the program yet gets a placeholder document and view, so the shell never
// changes when a document kind arrives: the kind only implements its classes with
// VX_IMPLEMENT_CLASS under the names below.
#include "platform/Types.h"

#include <functional>
#include <vector>

struct CRuntimeClass;
class CDocument;

struct DocTypeInfo
{
    UINT nIDResource;
    const char* docClass;
    const char* viewClass;
};

// Lessons, Newtonian, one-, two- and three-variable systems.
const std::vector<DocTypeInfo>& ShellDocTypes();

// The registered class of that name, or the placeholder document or view.
const CRuntimeClass* FindDocClass(const char* name);
const CRuntimeClass* FindViewClass(const char* name);

// Idle-time work on the active document (the model kinds reopen the views that their file
// lists, once): every registered function is called with the active document, in
// registration order, when the application is idle.
using IdleDocumentHandler = std::function<void(CDocument* pActiveDoc)>;
void RegisterIdleDocumentHandler(IdleDocumentHandler fn);
const std::vector<IdleDocumentHandler>& IdleDocumentHandlers();
