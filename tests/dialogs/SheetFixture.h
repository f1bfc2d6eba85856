#pragma once
// A model without windows and its property sheet, shown modeless so that a test can type into
// the pages, change tabs and press OK or Cancel as a user would.
#include "common/MessageRecorder.h"
#include "common/NextModal.h"
#include "common/TypeText.h"
#include "dialogs/ModelPropSheet.h"
#include "model/core/PropertiesExchange.h"

#include <functional>
#include <memory>
#include <optional>

class QLineEdit;
class QWidget;

struct SheetFixture
{
    explicit SheetFixture(SystemKind kind,
                          const std::function<void(CModelCore&)>& prepare = nullptr);
    ~SheetFixture();

    CTimePage& Time() const;
    CSpacePage& Space() const;
    CTablePage& Table() const;
    CObjectPage& Object() const;
    // Changes tabs as a click would; false when the page shown refuses to be left.
    bool Go(int nPage);
    // OK of the sheet and, when it closed, the document's write-back; whether the run's data
    // were discarded.
    std::optional<bool> Ok();
    void Cancel();

    MessageRecorder messages;
    CModelCore doc;
    CModelSettings edited;
    std::optional<CPropertiesBefore> before;
    std::unique_ptr<CModelPropSheet> sheet;
};
