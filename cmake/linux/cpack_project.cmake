# Read by cpack before it stages the package: the install then knows that
# the package's triggers, not it, refresh the desktop and MIME databases.
set(ENV{MORV_PACKAGE_STAGING} 1)
