// Resource identifiers of the control module.
#pragma once

#define IDS_NELORECOGNITION          1    // user type name of the control
#define IDS_NELORECOGNITION_PPG      2    // type name of the property page
#define IDS_NELORECOGNITION_PPG_CAPTION 200
#define IDD_PROPPAGE_NELORECOGNITION 200
#define IDB_NELORECOGNITION          1    // toolbox bitmap
#define IDC_PROPPAGE_TODO_TEXT       1000
