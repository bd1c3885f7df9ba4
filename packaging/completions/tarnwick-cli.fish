# fish completion for tarnwick-cli, installed in fish's vendor_completions.d.

set -l commands scan clean analyze restore help
set -l rules node_modules Pods DerivedData 'Xcode Archive' 'Xcode DeviceSupport' 'CoreSimulator Caches' \
    'Unavailable Simulator' 'Simulator Runtime' .gradle 'Gradle Cache' .dart_tool .next .nuxt .svelte-kit .turbo \
    'npm Cache' 'pnpm Store' 'Yarn Cache' __pycache__ .pytest_cache .mypy_cache .ruff_cache .tox .build target \
    'CocoaPods Cache' 'Homebrew Cache' 'Homebrew Logs' 'Docker Build Cache' 'Docker Desktop Data' 'Colima Data' \
    'SwiftPM Cache' Carthage/Build build dist coverage .venv venv

complete -c tarnwick-cli -f

# Before the command
set -l start "not __fish_seen_subcommand_from $commands"
complete -c tarnwick-cli -n $start -a scan -d 'find cleanup folders, largest first'
complete -c tarnwick-cli -n $start -a clean -d 'scan, then move every found folder to the Trash'
complete -c tarnwick-cli -n $start -a analyze -d 'the guided analysis without cleaning'
complete -c tarnwick-cli -n $start -a restore -d 'list the folders cleanings moved to the Trash, or put them back'
complete -c tarnwick-cli -n $start -a help -d 'show the help of a command'
complete -c tarnwick-cli -n $start -s h -l help -d 'show this help and exit'
complete -c tarnwick-cli -n $start -l version -d 'show the version and exit'

complete -c tarnwick-cli -n '__fish_seen_subcommand_from help' -a 'scan clean analyze restore'

# Every command
set -l any '__fish_seen_subcommand_from scan clean analyze'
complete -c tarnwick-cli -n $any -a '(__fish_complete_directories)'
complete -c tarnwick-cli -n $any -s h -l help -d 'show this help and exit'
complete -c tarnwick-cli -n $any -l json -d 'machine-readable output'
complete -c tarnwick-cli -n $any -l color -x -a 'never auto always' -d 'colour in human output'
complete -c tarnwick-cli -n $any -s q -l quiet -d 'no progress on standard error'
complete -c tarnwick-cli -n $any -l threads -x -d 'walk with this many threads (1 to 256)'

# scan and clean
set -l scanning '__fish_seen_subcommand_from scan clean'
complete -c tarnwick-cli -n $scanning -l preset -x -a 'safe balanced deep custom' -d 'the rule set of a preset'
complete -c tarnwick-cli -n $scanning -l rule -x -a (string join ' ' -- (string escape -- $rules)) -d 'use exactly these rules'
complete -c tarnwick-cli -n $scanning -l aggressive -d 'include the extra types'
complete -c tarnwick-cli -n $scanning -l no-aggressive -d 'leave the extra types out'
complete -c tarnwick-cli -n $scanning -l min-size -x -d 'skip smaller folders (100MB, 1GB)'
complete -c tarnwick-cli -n $scanning -l exclude -x -a '(__fish_complete_directories)' -d 'never enter this folder'

# clean
complete -c tarnwick-cli -n '__fish_seen_subcommand_from clean' -l permanently -d 'delete instead of moving to the Trash'
complete -c tarnwick-cli -n '__fish_seen_subcommand_from clean' -l yes -d 'do not ask for confirmation'
complete -c tarnwick-cli -n '__fish_seen_subcommand_from clean' -l guided -d 'clean only what the guided analysis recommends'
complete -c tarnwick-cli -n '__fish_seen_subcommand_from clean' -l keep-free -x -d 'with --guided: stop once the home volume has SIZE available'
complete -c tarnwick-cli -n '__fish_seen_subcommand_from clean' -l dry-run -d 'show what would be cleaned and touch nothing'

# restore: its operands are the ids it lists, not folders
set -l restoring '__fish_seen_subcommand_from restore'
complete -c tarnwick-cli -n $restoring -s h -l help -d 'show this help and exit'
complete -c tarnwick-cli -n $restoring -l json -d 'machine-readable output'
complete -c tarnwick-cli -n $restoring -l last -d 'put back every folder of the last cleanup'
