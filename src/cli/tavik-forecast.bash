# bash completion for tavik-forecast: its options (as its --help lists them),
# the values of --model, --attitude and --format, files and folders where they are
# asked for, and for --satellite the names in the TLE file the command line
# would read.

# The long options of the program as typed, from the option lines of its
# --help ("  -h, --help ...", "  --tle FILE ..."); kept per program.
_tavik_forecast_options()
{
    local program=$1 key
    key=_tavik_forecast_options_${#program}_${program//[^a-zA-Z0-9]/_}
    if [[ -z ${!key-} ]]; then
        printf -v "$key" '%s' "$(LC_ALL=C "$program" --help 2>/dev/null |
            sed -n 's/^  \(-[a-zA-Z], \)\{0,1\}\(--[a-z][a-z0-9-]*\).*/\2/p')"
    fi
    printf '%s\n' "${!key}"
}

# The TLE file the command line names: --tle, else line 2 of the settings
# file (--settings, else tavik.ini beside the program, else the user's),
# relative to the settings file's folder.
_tavik_forecast_tle_file()
{
    local i tle='' settings='' word next
    for ((i = 1; i < cword; i++)); do
        word=${words[i]}
        next=${words[i + 1]-}
        case $word in
            --tle) tle=$next ;;
            --tle=*) tle=${word#--tle=} ;;
            --settings) settings=$next ;;
            --settings=*) settings=${word#--settings=} ;;
        esac
    done
    if [[ -n $tle ]]; then
        [[ $tle == - ]] || __expand_tilde_by_ref tle
        printf '%s\n' "$tle"
        return
    fi
    if [[ -z $settings ]]; then
        local program folder
        program=$(type -P "${words[0]}" 2>/dev/null) || program=''
        [[ -n $program ]] && folder=$(dirname -- "$(readlink -f -- "$program")")
        if [[ -n $program && -f $folder/tavik.ini ]]; then
            settings=$folder/tavik.ini
        else
            settings=${XDG_CONFIG_HOME:-$HOME/.config}/tavik/tavik.ini
        fi
    else
        __expand_tilde_by_ref settings
    fi
    [[ -f $settings && -r $settings ]] || return
    local path
    path=$(sed -n '2{s/\r$//;p;q}' -- "$settings")
    [[ -n $path ]] || return
    [[ $path == /* ]] || path=$(dirname -- "$settings")/$path
    printf '%s\n' "$path"
}

_tavik_forecast()
{
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --help | -h | --version)
            return
            ;;
        --tle)
            _filedir
            [[ - == "$cur"* ]] && COMPREPLY+=(-)
            return
            ;;
        --settings)
            _filedir ini
            return
            ;;
        --strip)
            _filedir png
            return
            ;;
        --out | --year-dir)
            _filedir -d
            return
            ;;
        --model)
            COMPREPLY=($(compgen -W 'classic sgp4 design precise' -- "$cur"))
            return
            ;;
        --attitude)
            COMPREPLY=($(compgen -W '0,0 sun nadir orbit-normal velocity inertial:' -- "$cur"))
            [[ ${COMPREPLY[0]-} == inertial: ]] && compopt -o nospace
            return
            ;;
        --format)
            COMPREPLY=($(compgen -W 'text csv json ics' -- "$cur"))
            return
            ;;
        --start)
            COMPREPLY=($(compgen -W "$(date -u +%F)" -- "$cur"))
            return
            ;;
        --year)
            COMPREPLY=($(compgen -W "$(date -u +%Y)" -- "$cur"))
            return
            ;;
        --satellite)
            # The name lines of a three-line file: neither element line
            # 1 nor 2; at most 64 MiB, as the program reads.
            local tle name typed
            tle=$(_tavik_forecast_tle_file)
            [[ -n $tle && $tle != - && -f $tle && -r $tle ]] || return
            [[ $(stat -c %s -- "$tle" 2>/dev/null) -le 67108864 ]] || return
            typed=$(dequote "$cur")
            while IFS= read -r name; do
                [[ $name == "$typed"* ]] && COMPREPLY+=("$(printf '%q' "$name")")
            done < <(LC_ALL=C sed -n 's/[[:space:]]*\r\{0,1\}$//; /^[12] /d; /^$/d; p' -- "$tle" | LC_ALL=C sort -u)
            return
            ;;
        --locator | --update-tle | --timeout | --frequency | --uplink | --hours | --min-elevation)
            return
            ;;
    esac

    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$(_tavik_forecast_options "${words[0]}")" -- "$cur"))
    fi
} &&
    complete -F _tavik_forecast tavik-forecast
