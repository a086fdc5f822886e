# bash completion for zeltool: commands, their options, and file names.

_zeltool()
{
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    local command="${COMP_WORDS[1]}"
    case $command in
        bitmap|palette|font) command="$command ${COMP_WORDS[2]}" ;;
    esac

    if [ "$COMP_CWORD" -eq 1 ]; then
        COMPREPLY=($(compgen -W "bitmap palette shade font aggregate --help --version" -- "$cur"))
        return
    fi
    if [ "$COMP_CWORD" -eq 2 ]; then
        case ${COMP_WORDS[1]} in
            bitmap) COMPREPLY=($(compgen -W "import export info" -- "$cur")); return ;;
            palette) COMPREPLY=($(compgen -W "import export" -- "$cur")); return ;;
            font) COMPREPLY=($(compgen -W "build preview" -- "$cur")); return ;;
        esac
    fi

    case $prev in
        --dither) COMPREPLY=($(compgen -W "fs none" -- "$cur")); return ;;
        --charset) COMPREPLY=($(compgen -W "latin1 cp437 cp1252" -- "$cur") $(compgen -f -- "$cur")); return ;;
        --reserve) COMPREPLY=($(compgen -W "none 8,24,31" -- "$cur")); return ;;
        --origin|--frame|--size|--threshold|--cell|--first|--haze|--text) return ;;
    esac

    local options=""
    case $command in
        "bitmap import") options="--palette-out --remap --palette --make-palette --reserve --base --dither --frame --origin" ;;
        "bitmap export") options="--palette" ;;
        "bitmap info") options="--frame" ;;
        "palette export") options="--preview" ;;
        shade) options="--haze" ;;
        "font build") options="--charset --size --threshold --cell --first" ;;
        "font preview") options="--text --charset --palette" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help --version" -- "$cur"))
    else
        COMPREPLY=($(compgen -f -- "$cur"))
    fi
}
complete -o filenames -F _zeltool zeltool
