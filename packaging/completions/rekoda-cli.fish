# fish completion for rekoda-cli

function __rekoda_cli_source_files
    set -l tokens (commandline -opc)
    set -l source
    for i in (seq (count $tokens))
        switch $tokens[$i]
            case --from
                set source $tokens[(math $i + 1)]
            case '--from=*'
                set source (string replace -- --from= '' $tokens[$i])
        end
    end
    set source (string replace -r '^~' $HOME -- $source)
    if test -n "$source" -a -d "$source"
        set -l here (commandline -ct)
        for f in $source/$here*
            # Before --, a name that begins with '-' would be taken for an option.
            test -f $f; and string replace -r -- '^-' './-' (basename -- $f)
        end
    else
        __fish_complete_path (commandline -ct)
    end
end

complete -c rekoda-cli -f
complete -c rekoda-cli -l family -x -a 'df ma' -d 'Which files'
complete -c rekoda-cli -l code -x -d 'The new location code'
complete -c rekoda-cli -l from -x -a '(__fish_complete_directories)' -d 'Source folder'
complete -c rekoda-cli -l to -x -a '(__fish_complete_directories)' -d 'Destination folder'
complete -c rekoda-cli -l files-from -r -F -d 'Read more names from a file'
complete -c rekoda-cli -l null -d 'Names in --files-from end with NUL'
complete -c rekoda-cli -l mkdir -d 'Create the destination folder'
complete -c rekoda-cli -l no-clobber -d 'Leave files already in the destination'
complete -c rekoda-cli -l trash -d 'Files replaced go to the trash first'
function __rekoda_cli_runs
    rekoda-cli --list-runs 2>/dev/null | string replace -r '^([^\t]*)\t([^\t]*)\t([^\t]*)\t([^\t]*).*' '$1\t$2 $3 $4'
end
complete -c rekoda-cli -l undo -f -a '(__rekoda_cli_runs)' -d 'Undo the last run (--undo=ID: that run)'
complete -c rekoda-cli -n '__fish_prev_arg_in --undo' -f -a '(__rekoda_cli_runs)'
complete -c rekoda-cli -l list-runs -d 'The runs that can be undone'
complete -c rekoda-cli -l list -d 'Each file with its code now and what a run would do'
complete -c rekoda-cli -l only-code -x -d 'Only the files that carry this code now'
complete -c rekoda-cli -l locations -r -F -d 'A register of known locations (CSV)'
complete -c rekoda-cli -s n -l dry-run -d 'Report what would happen; write nothing'
complete -c rekoda-cli -l json -d 'One JSON object per file'
complete -c rekoda-cli -s q -l quiet -d 'No progress line and no summary'
complete -c rekoda-cli -s h -l help -d 'Show the help'
complete -c rekoda-cli -s V -l version -d 'Show the version'
complete -c rekoda-cli -n 'not __fish_prev_arg_in --undo; and not string match -q -- "-*" (commandline -ct)' -a '(__rekoda_cli_source_files)'
