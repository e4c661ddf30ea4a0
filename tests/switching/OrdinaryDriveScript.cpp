#include "OrdinaryDriveScript.h"

namespace rerevure::switching {

DriveSettings OrdinaryDriveValues() {
  DriveSettings values;
  values.UserArea = L"\\\\srv01\\home$\\jsmith";
  values.SchoolShare = L"\\\\srv01\\school";
  values.StaffShare = L"\\\\srv01\\staff";
  values.Extra1 = L"\\\\srv02\\media";
  values.Extra2 = L"\\\\srv02\\exams";
  values.Username = L"jsmith";
  values.Password = L"Secret1";
  return values;
}

std::vector<std::wstring> OrdinaryDriveScriptJournal(const std::wstring& path) {
  return {
      L"Remove " + path,
      L"Create " + path,
      L"WriteLine title Proxy VOZ v1.6 by ZUV Orarevirado",
      L"WriteLine color A",
      L"WriteLine @echo off",
      L"WriteLine net use * /d /y",
      L"WriteLine cls",
      L"Read UserArea",
      L"Read Username",
      L"Read Password",
      L"WriteLine net use h: \\\\srv01\\home$\\jsmith /USER:jsmith Secret1",
      L"Read SchoolShare",
      L"WriteLine net use i: \\\\srv01\\school",
      L"Read StaffShare",
      L"WriteLine net use j: \\\\srv01\\staff",
      L"Read Extra1",
      L"WriteLine net use k: \\\\srv02\\media",
      L"Read Extra2",
      L"WriteLine net use l: \\\\srv02\\exams",
      L"WriteLine cls",
      L"Close " + path,
  };
}

}  // namespace rerevure::switching
