# bash completion for tarnwick-cli                          -*- shell-script -*-
# Installed as /usr/share/bash-completion/completions/tarnwick-cli. Self-contained: it works with
# or without the bash-completion package's helpers.

_tarnwick_cli_rules='node_modules
Pods
DerivedData
Xcode Archive
Xcode DeviceSupport
CoreSimulator Caches
Unavailable Simulator
Simulator Runtime
.gradle
Gradle Cache
.dart_tool
.next
.nuxt
.svelte-kit
.turbo
npm Cache
pnpm Store
Yarn Cache
__pycache__
.pytest_cache
.mypy_cache
.ruff_cache
.tox
.build
target
CocoaPods Cache
Homebrew Cache
Homebrew Logs
Docker Build Cache
Docker Desktop Data
Colima Data
SwiftPM Cache
Carthage/Build
build
dist
coverage
.venv
venv'

# Offers the lines of $1 that start with $2 (typed with backslashes or quotes), each quoted for
# the command line: rule keys have spaces.
_tarnwick_cli_words()
{
    local typed=${2//\\/} word
    typed=${typed#[\"\']}
    COMPREPLY=()
    while IFS= read -r word; do
        [[ $word == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$word")")
    done <<<"$1"
}

_tarnwick_cli_folders()
{
    compopt -o filenames 2>/dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$1")
}

_tarnwick_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} prev=
    ((COMP_CWORD > 0)) && prev=${COMP_WORDS[COMP_CWORD - 1]}
    # With '=' among the word breaks, "--rule=node" arrives as "--rule" "=" "node".
    if [[ $cur == = ]]; then
        cur=
    elif [[ $prev == = ]] && ((COMP_CWORD > 1)); then
        prev=${COMP_WORDS[COMP_CWORD - 2]}
    elif [[ $cur == --*=* ]]; then
        prev=${cur%%=*}
        cur=${cur#*=}
    fi

    local command= i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        -*) ;;
        *)
            command=${COMP_WORDS[i]}
            break
            ;;
        esac
    done
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W '-h --help --version' -- "$cur")
        else
            mapfile -t COMPREPLY < <(compgen -W 'scan clean analyze restore help' -- "$cur")
        fi
        return
    fi

    local j
    for ((j = i + 1; j < COMP_CWORD; j++)); do
        if [[ ${COMP_WORDS[j]} == -- ]]; then
            _tarnwick_cli_folders "$cur"
            return
        fi
    done

    case $prev in
    --preset)
        mapfile -t COMPREPLY < <(compgen -W 'safe balanced deep custom' -- "$cur")
        return
        ;;
    --rule)
        _tarnwick_cli_words "$_tarnwick_cli_rules" "$cur"
        return
        ;;
    --color)
        mapfile -t COMPREPLY < <(compgen -W 'never auto always' -- "$cur")
        return
        ;;
    --exclude)
        _tarnwick_cli_folders "$cur"
        return
        ;;
    --min-size | --keep-free | --threads)
        COMPREPLY=()
        return
        ;;
    esac

    local options
    case $command in
    scan)
        options='-h --help --preset --rule --aggressive --no-aggressive --min-size --exclude --json --color -q --quiet
            --threads'
        ;;
    clean)
        options='-h --help --preset --rule --aggressive --no-aggressive --min-size --exclude --json --color
            --permanently --yes -q --quiet --guided --keep-free --dry-run --threads'
        ;;
    analyze)
        options='-h --help --json --color -q --quiet --threads'
        ;;
    restore)
        # Its operands are the ids that `tarnwick-cli restore` lists, not folders.
        [[ $cur == -* ]] && mapfile -t COMPREPLY < <(compgen -W '-h --help --json --last' -- "$cur") || COMPREPLY=()
        return
        ;;
    help)
        mapfile -t COMPREPLY < <(compgen -W 'scan clean analyze restore' -- "$cur")
        return
        ;;
    *)
        COMPREPLY=()
        return
        ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    else
        _tarnwick_cli_folders "$cur"
    fi
}

complete -F _tarnwick_cli tarnwick-cli
