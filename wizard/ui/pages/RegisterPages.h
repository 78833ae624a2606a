// RegisterPages.h: makes the information pages known to the main window by their form names.
#pragma once

namespace wizard {

// Registers Frm_Preparatory and Frm_PreparatoryTask with the main window's page table and sends
// the pages' accelerators to the main window's button handlers. Call once before start-up.
void registerInformationPages();

} // namespace wizard
