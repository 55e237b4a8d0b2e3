# SPDX-License-Identifier: MIT
# Read by cpack. The same sources give the same package: every file in it carries the release's
# date (2026-12-07, as in the changelog) unless the packager sets SOURCE_DATE_EPOCH.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    set(ENV{SOURCE_DATE_EPOCH} 1796601600)
endif()
