#pragma once
// The variables of the model kinds, in the order of the table's columns. Kept apart from the
// table that describes them (KindVars.h) so that headers read by moc can name a variable.
enum VarSlot : int
{
    kSlotT,
    kSlotX,
    kSlotXp,
    kSlotXpp,
    kSlotY,
    kSlotYp,
    kSlotZ,
    kSlotZp,
    kSlots
};
