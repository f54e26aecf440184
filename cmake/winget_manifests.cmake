# Puts the built MSI's SHA-256 into the winget manifests that CMake filled in
# at configure time (`cmake -DMSI=... -DMANIFESTS=... -DOUTPUT=... -P`, run
# by the `msi` target). OUTPUT follows the layout of the winget-pkgs
# repository.
file(SHA256 ${MSI} HORAVEL_MSI_SHA256)
string(TOUPPER ${HORAVEL_MSI_SHA256} HORAVEL_MSI_SHA256)
file(GLOB manifests ${MANIFESTS}/*.yaml)
file(REMOVE_RECURSE ${OUTPUT})
foreach(manifest ${manifests})
  get_filename_component(name ${manifest} NAME)
  configure_file(${manifest} ${OUTPUT}/${name} @ONLY)
endforeach()
